#include <gmock/gmock.h>

#include <cstdlib>
#include <ctime>

// Local time is UTC in every test, so that the times the tests set are the times they read.
int main(int argc, char** argv) {
  setenv("TZ", "UTC0", 1);
  tzset();
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
