#include "field/notices.h"

void (*notice_score)(int x, int y, int change) = nullptr;
void (*notice_powerup)(int x, int y) = nullptr;
void (*notice_level_up)() = nullptr;
