#include "cli/Commands.h"
namespace fc::cli {
int SqlCommand(const Args&) { return 2; }
}  // namespace fc::cli
