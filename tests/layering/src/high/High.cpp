#include <Windows.h>
#include "side/Side.h"
#include "mid/Mid.h"
