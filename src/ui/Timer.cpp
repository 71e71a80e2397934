#include "ui/Timer.h"
