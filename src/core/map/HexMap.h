#pragma once
// The one hex map of the program: 80 by 80 cells of capacity, its current
// size and the hex shown at the top-left of the main map picture.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zem {

constexpr int MaxMapSize = 80;

struct MapCell {
    std::int16_t bmp = 0; // tile number shown
    std::uint8_t TT1 = 0; // terrain type 1 (index into the type 1 names)
    std::uint8_t TT2 = 0; // terrain type 2; 1 marks a road hex
    std::uint8_t TT3 = 0; // terrain type 3, exported to Panzer General 2
    std::uint8_t spare = 0;
    std::int16_t RC = 0; // road connection bits
    std::int16_t PL = 0;
    std::int16_t E2 = 0;
    std::int16_t E3 = 0;
    std::array<std::int16_t, 24> extra{}; // carried, never interpreted

    bool operator==(const MapCell&) const = default;
};

// Road bits of RC, clockwise from north. East and west have no neighbour.
enum RoadBit : int {
    rbN = 0x01,
    rbNE = 0x02,
    rbE = 0x04,
    rbSE = 0x08,
    rbS = 0x10,
    rbSW = 0x20,
    rbW = 0x40,
    rbNW = 0x80
};

struct HexPos {
    int x = 0, y = 0;
    bool operator==(const HexPos&) const = default;
};

// The six neighbours of a hex in the order N, NE, SE, S, SW, NW; odd columns
// stand half a hex lower than even ones.
struct Neighbour {
    int bit;
    int opposite;
    HexPos at;
};
std::array<Neighbour, 6> Neighbours(int x, int y);
// The steps from hex a to hex b through neighbours.
int HexDistance(HexPos a, HexPos b);

class HexMap {
  public:
    int MapWidth = 20;
    int MapHeight = 20;
    HexPos ViewOrigin{0, 0};

    static bool InGrid(int x, int y) {
        return x >= 0 && y >= 0 && x < MaxMapSize && y < MaxMapSize;
    }
    bool OnMap(int x, int y) const { return x >= 0 && y >= 0 && x < MapWidth && y < MapHeight; }

    // Callers check InGrid first; the cells are never reached outside it.
    MapCell& Cell(int x, int y) { return cells_[std::size_t(x)][std::size_t(y)]; }
    const MapCell& Cell(int x, int y) const { return cells_[std::size_t(x)][std::size_t(y)]; }

  private:
    std::array<std::array<MapCell, MaxMapSize>, MaxMapSize> cells_{};
};

} // namespace zem
