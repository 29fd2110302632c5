#include "render/stored_variable.h"

bool StoredVariable::read(std::istream& in) {
    return !in.fail();
}
