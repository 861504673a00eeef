#pragma once

// Bodies shared by the CPU path and the CUDA kernels: compiled by g++ and nvcc alike.
#if defined(__CUDACC__)
#define KH_HD __host__ __device__ __forceinline__
#else
#define KH_HD inline
#endif
