#include <sys/stat.h>

#include <cstdio>
#include <zip.h>

#include "low/Low.h"
#include "platform/Files.h"
