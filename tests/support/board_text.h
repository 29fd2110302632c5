// The board descriptions moved into the one board helper.
#pragma once
#include "support/test_boards.h"
