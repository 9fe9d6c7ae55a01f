#include "mid/Mid.h"
