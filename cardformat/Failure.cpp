#include "Failure.h"

#include <cerrno>
#include <cstring>

namespace cardformat {

std::string describeFailure(std::int32_t number) {
    using namespace failure_code;
    switch (number) {
    case 0:
        return {};
    case InvalidArgument:
        return "无效的过程调用或参数";
    case Overflow:
        return "溢出";
    case OutOfMemory:
        return "内存溢出";
    case TypeMismatch:
        return "类型不匹配";
    case FileNotFound:
        return "文件未找到";
    case DeviceIo:
        return "设备 I/O 错误";
    case DiskFull:
        return "磁盘已满";
    case PastEndOfFile:
        return "输入超出文件尾";
    case PermissionDenied:
        return "拒绝的权限";
    case PathFileAccess:
        return "路径/文件访问错误";
    case PathNotFound:
        return "路径未找到";
    default:
        return "应用程序定义的或对象定义的错误";
    }
}

CardError::CardError(std::int32_t number, const std::string& context)
    : std::runtime_error(context.empty() ? describeFailure(number)
                                         : context + ": " + describeFailure(number)),
      number_(number) {}

void throwSystemError(int errnoValue, const std::string& context) {
    using namespace failure_code;
    std::int32_t number = DeviceIo;
    switch (errnoValue) {
    case ENOENT:
        number = FileNotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        number = PermissionDenied;
        break;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        number = PathNotFound;
        break;
    case EISDIR:
    case EEXIST:
    case EBUSY:
        number = PathFileAccess;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        number = DiskFull;
        break;
    case ENOMEM:
        number = OutOfMemory;
        break;
    default:
        break;
    }
    throw CardError(number, context + " (" + std::strerror(errnoValue) + ")");
}

} // namespace cardformat
