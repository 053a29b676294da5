#include "driver/run.h"

int main(int argc, char** argv) { return evstat::run(argc, argv); }
