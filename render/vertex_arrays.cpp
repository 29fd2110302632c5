#include "render/vertex_arrays.h"

LockArraysFunction glLockArraysEXT = nullptr;
UnlockArraysFunction glUnlockArraysEXT = nullptr;
