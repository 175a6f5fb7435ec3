// sysctrl: the operators' tool for the launcher's enciphered configuration file.
#include <iostream>

#include "SysCtrl.h"

int main(int argc, char** argv) { return sysctrl::RunSysCtrl(argc, argv, std::cout, std::cerr); }
