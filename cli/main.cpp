#include "cli/command.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return cli::RunCommand(args, stdout, stderr);
}
