// Where a job command gets the number of volume map cells from. The volume map
// control implements it; until it computes its grid, anything that knows the
// count can stand in.
#pragma once

namespace vantrel::service {

class CellCountSource {
  public:
    virtual ~CellCountSource() = default;
    virtual int GetCellCount() = 0;
};

}  // namespace vantrel::service
