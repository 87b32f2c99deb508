#include "MainTab.h"

