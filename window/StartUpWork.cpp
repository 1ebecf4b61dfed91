#include "StartUpWork.h"

#include "app/Fonts.h"

StartUpWork::StartUpWork() : fontConfiguration_(std::async(std::launch::async, &app::LoadFontConfiguration)) {}
