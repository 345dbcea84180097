#pragma once
// What the shader classes share: the kernel a Shader object holds, ready to run with the
// parameter values and input images its ShaderData has, and the ShaderFilter's work on a
// bitmap.
#include "avm2/Machine.h"
#include "pixels/BitmapEffects.h"
#include "pixels/BitmapPixels.h"
#include "shader/PbjMachine.h"
#include "shader/PbjProgram.h"

#include <memory>
#include <optional>

namespace swf {
class PixelKernel;
}

namespace avm2 {

// The kernel of a Shader object (read again from its data's bytecode); none when the shader
// has no valid bytecode.
std::optional<shader::PbjProgram> shaderProgram(Machine& m, const Value& shaderObject);

// A kernel with its parameters and images loaded. Made once per job or filter; the machine
// points into the program and images it holds, so a run stays where it was made.
class ShaderRun {
  public:
    // Throws ArgumentError #2004 for a shader without a valid kernel. `firstInput`, when
    // given, stands for the first image input (the filtered pixels of a filter).
    static std::unique_ptr<ShaderRun> prepare(Machine& m, const Value& shaderObject,
                                              const shader::PbjImage* firstInput);
    shader::PbjMachine& machine() { return *machine_; }
    ShaderRun() = default;
    ShaderRun(const ShaderRun&) = delete;
    ShaderRun& operator=(const ShaderRun&) = delete;
    ~ShaderRun();

  private:
    shader::PbjProgram program_;
    std::vector<shader::PbjImage> images_;
    std::unique_ptr<shader::PbjMachine> machine_;
};

namespace shaders {
bool isA(Machine& m, const Value& v, const char* cls);
// Whether the value is a Vector of any element type.
bool isVector(Machine& m, const Value& v);
// A width or height a script gave: 0 for what is not a positive number, at most a million.
int dimension(Machine& m, const Value& v);
// An area of a bitmap as an input image (colours 0..1, not premultiplied); outside is
// transparent.
shader::PbjImage imageOfPixels(const pixels::BitmapPixels& p, pixels::PixelRect area, int channels);
// The kernel's output as a colour: missing channels repeat red, or are opaque for alpha.
std::uint32_t argbOf(const std::array<float, 4>& out, int channels);
} // namespace shaders

bool isShaderFilter(Machine& m, const Value& filter);
// BitmapData.applyFilter with a ShaderFilter: the kernel runs over the source rectangle
// grown by the filter's extensions, the source pixels its first input, and lands at the
// destination point.
void applyShaderFilter(Machine& m, pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                       pixels::Placement at, const Value& filter);
// generateFilterRect: the rectangle grown by the extensions.
pixels::PixelRect shaderFilterRect(Machine& m, pixels::PixelRect rect, const Value& filter);

// A copy of the shader's kernel, parameters and inputs for the renderer's ShaderFilter; null
// for a shader without a valid kernel or with values Flash refuses.
std::shared_ptr<const swf::PixelKernel> shaderKernelOf(Machine& m, const Value& shaderObject);

void installShaderJob(Machine& m);
void installShaderFills(Machine& m);

} // namespace avm2
