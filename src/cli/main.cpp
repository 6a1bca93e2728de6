#include "cli/cli_app.h"

int main(int argc, char** argv) { return tw::RunCli(argc, argv); }
