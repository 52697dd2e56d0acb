#pragma once

#include <cstddef>
#include <functional>

// Runs job(i) for i = 0 .. nCount-1 on up to nWorkers threads and hands each
// result to emit(i) in order of i, on the calling thread, as soon as it and
// all before it are done. Output thus stays grouped and in input order while
// later jobs still run.
void RunInOrder(size_t nCount, unsigned nWorkers, const std::function<void(size_t)>& job,
                const std::function<void(size_t)>& emit);
