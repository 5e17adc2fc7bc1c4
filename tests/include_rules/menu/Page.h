#pragma once

#include "kit/Card.h"
#include "sprites/View.h"
