#include "MainTab.h"
