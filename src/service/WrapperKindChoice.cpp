#include "service/ClassicWrapper.h"

namespace velmora {

std::unique_ptr<WrapperKind> wrapperKindFor(const std::string&, Files&) { return std::make_unique<ClassicWrapper>(); }

}  // namespace velmora
