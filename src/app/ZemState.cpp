#include "app/ZemState.h"
