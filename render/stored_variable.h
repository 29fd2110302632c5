// A typed value that a map object reads from and writes to its file as raw bytes.
#pragma once

#include <cstddef>
#include <istream>

class StoredVariable {
  public:
    StoredVariable() = default;
    StoredVariable(const StoredVariable&) = default;
    StoredVariable& operator=(const StoredVariable&) = default;
    virtual ~StoredVariable() = default;

    // True when the stream is still good after the read; a value without raw bytes reads none.
    virtual bool read(std::istream& in);
    // The value's raw bytes, `size()` of them; writers copy them as they are.
    virtual const void* data() const { return nullptr; }
    virtual std::size_t size() const { return 0; }
};
