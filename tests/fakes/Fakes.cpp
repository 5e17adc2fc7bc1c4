#include "fakes/Fakes.h"
