#pragma once

#include <QString>
#include <exception>

// Why a step of an update did not work; its description is also its printed form.
struct UpdateFailure : std::exception {
    explicit UpdateFailure(QString text)
        : description(std::move(text)), bytes_(description.toUtf8()) {}
    const char* what() const noexcept override { return bytes_.constData(); }

    QString description;

  private:
    QByteArray bytes_;
};
