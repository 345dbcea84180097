#pragma once
// What the shader classes share: the kernel a Shader object holds, and the job class.
#include "avm2/Machine.h"
#include "shader/PbjProgram.h"

#include <optional>

namespace avm2 {

// The kernel of a Shader object (read again from its data's bytecode); none when the shader
// has no valid bytecode.
std::optional<shader::PbjProgram> shaderProgram(Machine& m, const Value& shaderObject);

void installShaderJob(Machine& m);

} // namespace avm2
