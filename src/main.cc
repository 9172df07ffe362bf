#include "run/run.h"

int main(int argc, char** argv) {
  return tovel::run_tovel(argc, argv);
}
