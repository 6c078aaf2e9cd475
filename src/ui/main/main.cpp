#include "ui/main/tarnwick_app.h"

int main(int argc, char** argv) { return tw::runTarnwick(argc, argv); }
