#include "analyses/common/RunHooks.h"

TRunHooks& NoHooks() {
  static TRunHooks hooks;
  return hooks;
}
