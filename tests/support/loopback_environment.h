#pragma once
// A GoogleTest environment that keeps loopback requests away from any proxy
// of the environment, for test programs that want it before any server
// exists:
//
//   ::testing::AddGlobalTestEnvironment(new tavrin::test::LoopbackEnvironment);
//
// (GoogleTest owns the object.) LocalHttpServer does the same on its own.

#include <gtest/gtest.h>

#include "support/local_http_server.h"

namespace tavrin::test {

class LoopbackEnvironment : public ::testing::Environment {
public:
    void SetUp() override { bypass_proxy_for_loopback(); }
};

}  // namespace tavrin::test
