// The allocator the RPC run time uses for stub buffers, on both ends of the link:
// the process heap, and a free that ignores a null pointer.
#include <windows.h>

#include <rpc.h>
#include <rpcndr.h>

#include <cstddef>

extern "C" void* __RPC_USER MIDL_user_allocate(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size);
}

extern "C" void __RPC_USER MIDL_user_free(void* block) {
    if (block != nullptr) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}
