#include "base/error_text.h"

#include <cerrno>

namespace brivano {

std::string ErrnoText(int error) {
  // The wording of glibc's Chinese messages, which Chinese users know.
  switch (error) {
    case EPERM:
      return "不允许的操作";
    case ENOENT:
      return "没有那个文件或目录";
    case EINTR:
      return "被中断的系统调用";
    case EIO:
      return "输入/输出错误";
    case ENXIO:
      return "没有那个设备或地址";
    case E2BIG:
      return "参数列表过长";
    case EBADF:
      return "错误的文件描述符";
    case EAGAIN:
      return "资源暂时不可用";
    case ENOMEM:
      return "无法分配内存";
    case EACCES:
      return "权限不够";
    case EFAULT:
      return "错误的地址";
    case EBUSY:
      return "设备或资源忙";
    case EEXIST:
      return "文件已存在";
    case EXDEV:
      return "无效的跨设备链接";
    case ENODEV:
      return "没有那个设备";
    case ENOTDIR:
      return "不是目录";
    case EISDIR:
      return "是一个目录";
    case EINVAL:
      return "无效的参数";
    case ENFILE:
      return "系统中打开的文件过多";
    case EMFILE:
      return "打开的文件过多";
    case ETXTBSY:
      return "文本文件忙";
    case EFBIG:
      return "文件过大";
    case ENOSPC:
      return "设备上没有空间";
    case ESPIPE:
      return "非法 seek 操作";
    case EROFS:
      return "只读文件系统";
    case EMLINK:
      return "过多的链接";
    case EPIPE:
      return "断开的管道";
    case ENAMETOOLONG:
      return "文件名过长";
    case ENOLCK:
      return "没有可用的锁";
    case ENOSYS:
      return "函数未实现";
    case ENOTEMPTY:
      return "目录非空";
    case ELOOP:
      return "符号连接的层数过多";
    case EOPNOTSUPP:
      return "不支持的操作";
    case ETIMEDOUT:
      return "连接超时";
    case ECONNREFUSED:
      return "拒绝连接";
    case ESTALE:
      return "失效的文件句柄";
    case EDQUOT:
      return "超出磁盘配额";
    default:
      return "未知的错误 " + std::to_string(error);
  }
}

std::string ErrorLine(std::string_view program, std::string_view message) {
  std::string line(program);
  line.append("：");
  line.append(message);
  return line;
}

}  // namespace brivano
