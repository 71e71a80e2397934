#pragma once
// The tool bar's pictures, drawn by the program itself.

#include <QIcon>

namespace zem {

enum class ToolPicture { Place, Pick, Select, Fill, Spray, Roads, Terrain1, Terrain2, Road, Shape };
QIcon ToolIcon(ToolPicture which);

} // namespace zem
