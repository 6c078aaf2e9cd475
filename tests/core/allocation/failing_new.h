// Makes the n-th following nothrow allocation fail (0 = the next one); -1 = never.
#pragma once

namespace tw::test {

void failNothrowAllocation(long n);

} // namespace tw::test
