#include "mainwindow.h"

#include "deviceport.h"
#include "myled.h"
#include "portenumerator.h"
#include "protocolids.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

void MainWindow::createSerialPort(DevicePort *devicePort, PortEnumerator *portEnumerator)
{
    pollTimer = new QTimer(this);
    pollTimer->setInterval(10);
    connect(pollTimer, &QTimer::timeout, this, &MainWindow::onReadyRead);

    port = devicePort ? devicePort : new SerialDevicePort;
    port->setParent(this);
    connect(port, &DevicePort::readyRead, this, &MainWindow::onReadyRead);

    enumerator = portEnumerator ? portEnumerator : new SystemPortEnumerator;
    enumerator->setParent(this);
    connect(enumerator, &PortEnumerator::deviceDiscovered, this, &MainWindow::onPortAddedOrRemoved);
    connect(enumerator, &PortEnumerator::deviceRemoved, this, &MainWindow::onPortAddedOrRemoved);
}

QString MainWindow::devicePortName() const
{
    QString name;
    const QList<PortInfo> ports = enumerator->getPorts();
    for (const PortInfo &info : ports) {
        if (info.vendorID == Koru::DeviceVendorId && info.productID == Koru::DeviceProductId)
            name = info.portName; // the last one enumerated wins
    }
    return name;
}

void MainWindow::selectPortInComboBox(const QString &name)
{
    const QSignalBlocker blocker(portComboBox);
    portComboBox->setCurrentIndex(portComboBox->findText(name, Qt::MatchFixedString));
}

void MainWindow::onPortAddedOrRemoved()
{
    const QString selected = portComboBox->currentText();
    {
        const QSignalBlocker blocker(portComboBox);
        portComboBox->clear();
        for (const PortInfo &info : enumerator->getPorts())
            portComboBox->addItem(info.portName);
    }
    selectPortInComboBox(selected);

    bool openPortPresent = false;
    for (const PortInfo &info : enumerator->getPorts())
        openPortPresent = openPortPresent || info.portName == currentPortName;

    const QString deviceName = devicePortName();
    if (!deviceName.isEmpty()) {
        if (port->isOpen())
            return;
        if (!openPort(deviceName))
            return;
        selectPortInComboBox(deviceName);
        delayMs(100);
        if (getIsUpdataing()) {
            // A run still inside its waits carries on by itself on the reopened port;
            // only an interrupted one is started again.
            if (!upgradeRunning()) {
                slot_upFile();
                setIniValue(QStringLiteral("isUpdataing"), QStringLiteral("0"));
            }
        } else {
            getDeviceInfo();
        }
        slot_pagChange(currentPage);
        return;
    }
    if (openPortPresent)
        return;
    if (port->isOpen())
        closePort();
}

void MainWindow::slot_portChange(const QString &portName)
{
    if (portName == currentPortName && port->isOpen())
        return;
    if (port->isOpen())
        closePort();
    if (openPort(portName))
        selectPortInComboBox(currentPortName);
}

bool MainWindow::openPort(const QString &name)
{
    currentPortName = name;
    port->setPortName(name);
    if (port->open()) {
        pollTimer->start();
        usbLed->turnOn();
        qDebug() << "open ok";
        return true;
    }
    pollTimer->stop();
    usbLed->turnOff();
    qDebug() << "open error";
    showOpenError();
    return false;
}

void MainWindow::closePort()
{
    if (!port->isOpen())
        return;
    usbLed->turnOff();
    port->close();
    currentPortName.clear();
    qDebug() << "close ok";
}

void MainWindow::showOpenError()
{
    QString text = tr("usb open error");
    switch (port->lastOpenError()) {
    case DevicePort::OpenError::PermissionDenied:
        text += QLatin1Char('\n')
                + tr("The port cannot be opened because access is denied. Install the udev rule "
                     "60-koru-assistant.rules or add your user to the dialout group.");
        break;
    case DevicePort::OpenError::Busy:
        text += QLatin1Char('\n') + tr("The port is in use by another program.");
        break;
    default:
        break;
    }
    QMessageBox::warning(this, tr("waring"), text, QMessageBox::Yes);
}

bool MainWindow::check_usb_port()
{
    if (!devicePortName().isEmpty())
        return true;
    endUpFile();
    showUpgradeMsg(0, QStringLiteral("USB 已断开 请尝试插上USB线或重新插拔USB"));
    qDebug() << "check port";
    return false;
}

void MainWindow::delayMs(int milliseconds)
{
    const QDateTime until = QDateTime::currentDateTime().addMSecs(milliseconds);
    while (QDateTime::currentDateTime() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(2);
    }
}
