#include "platform/files/ParentConsole.h"

void attachToParentConsole() {}
