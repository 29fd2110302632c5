// Whoever adds an entry to the static batch learns where the entry moved to after each rebuild.
#pragma once

class BatchOwner {
  public:
    virtual ~BatchOwner() = default;
    virtual void setBatchIndex(int index) = 0;
};
