#pragma once
// GraphicCollection lives with the graphic base it holds.
#include <Ostrel/Vision/Graphic.h>
