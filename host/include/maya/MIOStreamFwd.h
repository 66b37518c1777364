#pragma once
// Forward declarations of the standard stream types, named without std:: as the API's headers declare
// their stream operators.
#include <iosfwd>

using std::istream;
using std::ostream;
