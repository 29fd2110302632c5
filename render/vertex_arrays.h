// The compiled-vertex-array entry points (GL_EXT_compiled_vertex_array), null when the GL lacks
// the extension. The display looks them up when it sets up GL; meshes and the static batch lock
// their arrays with them while they compile their lists.
#pragma once

#include <GL/gl.h>

using LockArraysFunction = void (*)(GLint first, GLsizei count);
using UnlockArraysFunction = void (*)();
extern LockArraysFunction glLockArraysEXT;
extern UnlockArraysFunction glUnlockArraysEXT;
