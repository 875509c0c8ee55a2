// The zeseal program: everything but the process streams lives in cli.cpp.
#include <iostream>

#include "cli.h"

int main(int argc, char** argv) { return zeseal::tool::RunCli(argc, argv, std::cout, std::cerr); }
