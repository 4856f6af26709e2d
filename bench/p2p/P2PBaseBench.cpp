// Packet memory and SHA-1 speed, each next to its usual peer in the same run.
#include "Memory/Packet.h"
#include "Memory/PacketManager.h"
#include "Utils/Sha1.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Orvan::Memory;

namespace {

void* opMalloc(size_t n)
{
    return std::malloc(n);
}
void opFree(void* p)
{
    std::free(p);
}
void* opCopy(void* d, const void* s, size_t n)
{
    return std::memcpy(d, s, n);
}

PacketManagerInternal& pool()
{
    static PacketManagerInternal* manager = new PacketManagerInternal(
        CPacketManager::policyPool, CPacketManager::MemoryOperator{&opMalloc, &opFree, &opCopy},
        CPacketManager::PoolParameter{2097152, 1024, 4});
    return *manager;
}

// Sizes typical of the stack: control messages, MTU-sized segments, stream buffers.
const size_t kSizes[] = {64, 1500, 1500, 200, 8000, 1024, 1500, 3000};

void BM_PoolAllocFree(benchmark::State& state)
{
    PacketManagerInternal& m = pool();
    size_t i = 0;
    for (auto _ : state) {
        size_t size = kSizes[i++ & 7];
        void* p = m.allocate(size);
        benchmark::DoNotOptimize(p);
        m.release(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MallocFree(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        void* p = std::malloc(kSizes[i++ & 7]);
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
    state.SetItemsProcessed(state.iterations());
}

// Sixteen blocks in flight, freed in a different order than taken.
void BM_PoolAllocFreeBatch(benchmark::State& state)
{
    PacketManagerInternal& m = pool();
    void* held[16];
    for (auto _ : state) {
        for (int i = 0; i < 16; ++i) {
            size_t size = kSizes[i & 7];
            held[i] = m.allocate(size);
        }
        for (int i = 0; i < 16; ++i)
            m.release(held[(i * 7) & 15]);
    }
    state.SetItemsProcessed(state.iterations() * 16);
}

void BM_MallocFreeBatch(benchmark::State& state)
{
    void* held[16];
    for (auto _ : state) {
        for (int i = 0; i < 16; ++i)
            held[i] = std::malloc(kSizes[i & 7]);
        for (int i = 0; i < 16; ++i)
            std::free(held[(i * 7) & 15]);
    }
    state.SetItemsProcessed(state.iterations() * 16);
}

void BM_PacketCreate(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        CPacket p(kSizes[i++ & 7]);
        benchmark::DoNotOptimize(p.getBuffer());
    }
    state.SetItemsProcessed(state.iterations());
}

std::vector<unsigned char> data(size_t n)
{
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<unsigned char>(i * 131 + 7);
    return v;
}

void BM_Sha1Own(benchmark::State& state)
{
    std::vector<unsigned char> buf = data(static_cast<size_t>(state.range(0)));
    unsigned char digest[20];
    Orvan::Utils::CSha1 sha;
    for (auto _ : state) {
        sha.update(buf.data(), buf.size());
        sha.final(digest, sizeof(digest));
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Sha1OpenSSL(benchmark::State& state)
{
    std::vector<unsigned char> buf = data(static_cast<size_t>(state.range(0)));
    unsigned char digest[20];
    EVP_MD* md = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    unsigned int length = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex(ctx, md, nullptr);
        EVP_DigestUpdate(ctx, buf.data(), buf.size());
        EVP_DigestFinal_ex(ctx, digest, &length);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(ctx);
    EVP_MD_free(md);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Sha1Portable(benchmark::State& state)
{
    std::vector<unsigned char> buf = data(static_cast<size_t>(state.range(0)));
    uint32_t st[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    for (auto _ : state) {
        Orvan::Utils::Detail::sha1CompressPortable(st, buf.data(), buf.size() / 64);
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_PoolAllocFree);
BENCHMARK(BM_MallocFree);
BENCHMARK(BM_PoolAllocFreeBatch);
BENCHMARK(BM_MallocFreeBatch);
BENCHMARK(BM_PacketCreate);
BENCHMARK(BM_Sha1Own)->Arg(64)->Arg(1024)->Arg(65536);
BENCHMARK(BM_Sha1OpenSSL)->Arg(64)->Arg(1024)->Arg(65536);
BENCHMARK(BM_Sha1Portable)->Arg(65536);
