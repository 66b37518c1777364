#pragma once
// The standard streams as plug-ins use them: cout, cerr, endl, file streams and manipulators, reachable
// without the std:: prefix as the SDK's examples write them.
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

using namespace std;
