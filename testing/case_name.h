// Names each case of a parameterised test after the `name` field of its row.
#ifndef QUARN_TESTING_CASE_NAME_H
#define QUARN_TESTING_CASE_NAME_H

#include <string>

#include "gtest/gtest.h"

struct CaseName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};

#endif
