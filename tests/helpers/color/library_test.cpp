// The shared library as a client sees it: what it exports, how it loads, what it logs at load.
#include "kestrix_helper_color.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

extern "C" std::size_t kh_color_test_c_context_size(void);
extern "C" std::size_t kh_color_test_c_alpha_offset(void);

namespace {

TEST(KhColorLibrary, HeaderIsPlainC)
{
    EXPECT_EQ(kh_color_test_c_context_size(), 56u);
    EXPECT_EQ(kh_color_test_c_alpha_offset(), 50u);
}

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

TEST(KhColorLibrary, ExportsExactlyTheInterface)
{
    const std::string table = run(std::string("nm -D --defined-only '") + KH_COLOR_LIBRARY + "'");
    ASSERT_FALSE(table.empty()) << "nm produced nothing";
    std::set<std::string> names;
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);) {
        const auto blank = line.rfind(' ');
        const std::string name = line.substr(blank + 1);
        const char kind = line.size() > 17 ? line[17] : '?';
        // The sanitizer build adds its own markers beside instrumented globals.
        if (name.rfind("__odr_asan", 0) == 0 || name.rfind("__asan", 0) == 0)
            continue;
        if (kind == 'T' || kind == 'D' || kind == 'B' || kind == 'W' || kind == 'V' || kind == 'R')
            names.insert(name);
    }
    const std::set<std::string> expected = {
        "NvOptimusEnablementCuda",
        "kh_color_auto_exposure",
        "kh_color_auto_exposure_abort",
        "kh_color_auto_exposure_and_white_balance",
        "kh_color_auto_white_balance",
        "kh_color_buffer_alloc",
        "kh_color_buffer_free",
        "kh_color_context_apply_changes",
        "kh_color_context_create",
        "kh_color_context_release",
        "kh_color_convert_format",
        "kh_color_debayer",
        "kh_color_debayer_and_white_balance",
        "kh_color_get_error_message",
        "kh_color_get_last_error_message",
        "kh_color_get_lib_version",
        "kh_color_white_balance",
    };
    EXPECT_EQ(names, expected) << table;
    EXPECT_NE(table.find(" D NvOptimusEnablementCuda"), std::string::npos) << "a data symbol";
}

TEST(KhColorLibrary, LoadsReportsNoGpuAndWorksOnTheCpu)
{
    std::remove(KH_COLOR_TEST_LOG);
    void* lib = dlopen(KH_COLOR_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    const auto* enablement = static_cast<const int32_t*>(dlsym(lib, "NvOptimusEnablementCuda"));
    ASSERT_NE(enablement, nullptr);
    EXPECT_EQ(*enablement, 1);
    EXPECT_EQ(sizeof *enablement, 4u);

    std::ifstream log(KH_COLOR_TEST_LOG);
    std::string all((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    const bool saidNoGpu = all.find("kh::DetectUsableGpu: GPU driver version is insufficient for CUDA") != std::string::npos ||
                           all.find("kh::DetectUsableGpu: No usable and enabled GPU found") != std::string::npos ||
                           all.find("kh::DetectUsableGpu: There are no available devices that support CUDA") !=
                               std::string::npos ||
                           all.find("kh::DetectUsableGpu: cudaGetDeviceCount error code") != std::string::npos;
    EXPECT_TRUE(saidNoGpu) << all;

    // Without a GPU the sensor size does not bound regions: a CPU-only context.
    using Create = int32_t (*)(kh_color_context**);
    using Release = void (*)(kh_color_context**);
    using Debayer = int32_t (*)(kh_color_context*, const void*, const rgn_type*, void*);
    auto create = reinterpret_cast<Create>(dlsym(lib, "kh_color_context_create"));
    auto release = reinterpret_cast<Release>(dlsym(lib, "kh_color_context_release"));
    auto debayer = reinterpret_cast<Debayer>(dlsym(lib, "kh_color_debayer"));
    ASSERT_TRUE(create && release && debayer);
    kh_color_context* ctx = nullptr;
    ASSERT_EQ(create(&ctx), 0);
    ctx->algorithm = 0;
    EXPECT_EQ(ctx->sensorWidth, 0);
    const uint16_t raw[16] = {};
    uint16_t color[48];
    const rgn_type r{0, 3, 1, 0, 3, 1};
    EXPECT_EQ(debayer(ctx, raw, &r, color), 0);
    release(&ctx);
    EXPECT_EQ(dlclose(lib), 0);
}

TEST(KhColorLibrary, CarriesTheGpuKernelsWhenBuiltWithCuda)
{
    const std::string sections = run(std::string("readelf -S -W '") + KH_COLOR_LIBRARY + "'");
    ASSERT_FALSE(sections.empty());
    if (KH_COLOR_HAVE_CUDA)
        EXPECT_NE(sections.find(".nv_fatbin"), std::string::npos) << sections;
    else
        EXPECT_EQ(sections.find(".nv_fatbin"), std::string::npos);
}

} // namespace
