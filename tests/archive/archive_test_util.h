#pragma once
// Shared fixtures of the archive tests.
#include "archive/vrfiles.h"
#include "base/error.h"
#include "support/archive_fixtures.h"
#include "support/test_support.h"
