#include "Version.h"
#include "high/High.h"
#include "side/Side.h"
#include "platform/Files.h"
