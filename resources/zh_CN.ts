<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>IC_HeadPage</name>
    <message>
        <source>Home</source>
        <translation>首页</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>图像</translation>
    </message>
    <message>
        <source>AuditTrail</source>
        <translation>审计追踪</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>采集</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>图像</translation>
    </message>
    <message>
        <source>Gel Images</source>
        <translation>凝胶图像</translation>
    </message>
    <message>
        <source>WB Images</source>
        <translation>WB图像</translation>
    </message>
    <message>
        <source>Flu Images</source>
        <translation>荧光图像</translation>
    </message>
</context>
</TS>
