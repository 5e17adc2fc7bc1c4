#pragma once

#include "kit/Card.h"
