// Krove Vestin: the program's entry.
#include <allegro.h>

#include "app/startup.h"

int main() { return run_program(); }
END_OF_MAIN()
