#include "StartUpWork.h"

#include "window/Fonts.h"

StartUpWork::StartUpWork() : fontConfiguration_(std::async(std::launch::async, &window::LoadFontConfiguration)) {}
