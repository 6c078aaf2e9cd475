// Makes the n-th following nothrow allocation fail (0 = the next one); -1 = never.
#pragma once

namespace twtest {

void failNothrowAllocation(long n);

} // namespace twtest
