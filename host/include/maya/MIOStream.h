#pragma once
// Embedded host: standard streams, also made visible in the global namespace
// as the host's headers do. Code should still write std::cout and so on.
#include <iostream>

using std::cerr;
using std::cin;
using std::clog;
using std::cout;
using std::endl;
using std::flush;
using std::ios;
using std::iostream;
using std::istream;
using std::ostream;
using std::streampos;
using std::ws;
