#include "run/run.h"

int main(int argc, char** argv) {
  tovel::run_tovel(argc, argv);
}
