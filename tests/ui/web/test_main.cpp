#include <emscripten.h>
#include <gtest/gtest.h>

EM_JS(void, mark_verdict, (int failed),
      { document.documentElement.setAttribute('data-tests', failed ? 'failed' : 'passed'); });

// Runs the tests inside the page and leaves the verdict on the document for
// the browser runner, which also reads their output from the console.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    mark_verdict(failed);
    return failed;
}
