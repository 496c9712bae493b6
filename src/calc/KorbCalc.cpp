#include "KorbCalc.h"
