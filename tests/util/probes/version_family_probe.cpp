// Exits with 1 when the system it runs on counts as the XP family, else 0.
#include "util/system_queries.h"

int main() { return IsWindowsXpFamily() ? 1 : 0; }
