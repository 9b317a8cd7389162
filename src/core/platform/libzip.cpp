#include "core/platform/libzip.h"

#include <dlfcn.h>

namespace LibZip {

namespace {

struct Loaded
{
    Functions functions{};
    bool complete = false;
    QString reason;
};

template<typename Function>
bool resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

Loaded load()
{
    Loaded result;
    // The library the program was built against, by its versioned name.
    void *library = dlopen(QHSY_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    Functions &f = result.functions;
    result.complete = library && resolve(library, "zip_open", f.open)
                      && resolve(library, "zip_discard", f.discard)
                      && resolve(library, "zip_name_locate", f.nameLocate)
                      && resolve(library, "zip_stat_init", f.statInit)
                      && resolve(library, "zip_stat_index", f.statIndex)
                      && resolve(library, "zip_fopen_index", f.fopenIndex)
                      && resolve(library, "zip_get_error", f.getError)
                      && resolve(library, "zip_error_code_zip", f.errorCodeZip)
                      && resolve(library, "zip_fread", f.fread)
                      && resolve(library, "zip_fclose", f.fclose);
    if (!result.complete) {
        const char *reason = dlerror();
        result.reason = QString::fromLocal8Bit(reason ? reason : QHSY_LIBZIP_SONAME);
    }
    return result;
}

const Loaded &loaded()
{
    static const Loaded once = load();
    return once;
}

} // namespace

const Functions *functions()
{
    return loaded().complete ? &loaded().functions : nullptr;
}

QString unavailableMessage()
{
    return QStringLiteral("无法读取表格文件：程序库 %1 缺失或已损坏（%2）。请重新安装青禾书苑。")
        .arg(QStringLiteral(QHSY_LIBZIP_SONAME), loaded().reason);
}

} // namespace LibZip
