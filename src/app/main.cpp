// Krove Vestin: the program's entry.
#include <allegro.h>

#include "app/startup.h"

int main(int argc, char **argv) { return run_program(argc, argv); }
END_OF_MAIN()
