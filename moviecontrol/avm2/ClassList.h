#pragma once
// XML and the player's classes the machine installs after its core ones, in this order (events
// before the display classes, which extend EventDispatcher; filters after the bitmaps, points
// and shaders their fields hold). X(Name) stands for
// `void installName(Machine&)`, defined in the class's own file.

#define AVM2_CLASS_LIST(X)                                                                         \
    X(Xml)                                                                                         \
    X(XmlDocument)                                                                                 \
    X(Events)                                                                                      \
    X(EventFamily)                                                                                 \
    X(Timer)                                                                                       \
    X(Geom)                                                                                        \
    X(Media)                                                                                       \
    X(DisplayClasses)                                                                              \
    X(Timeline)                                                                                    \
    X(GraphicsPaths)                                                                               \
    X(BitmapData)                                                                                  \
    X(Bitmap)                                                                                      \
    X(SimpleButton)                                                                                \
    X(SystemClasses)                                                                               \
    X(NetClasses)                                                                                  \
    X(ContextMenus)                                                                                \
    X(Transform)                                                                                   \
    X(DisplayFilters)                                                                              \
    X(TextFormat)                                                                                  \
    X(TextFieldMethods)                                                                            \
    X(StyleSheet)                                                                                  \
    X(TextFieldSelection)                                                                          \
    X(TextFieldLines)                                                                              \
    X(Fonts)                                                                                       \
    X(SharedObject)                                                                                \
    X(Accessibility)                                                                               \
    X(TextEngine)                                                                                  \
    X(Connections)                                                                                 \
    X(UrlLoading)                                                                                  \
    X(ValueHolders)                                                                                \
    X(VideoClasses)                                                                                \
    X(FileReferences)                                                                              \
    X(Globalization)                                                                               \
    X(Matrix3D)                                                                                    \
    X(DisplayDepth)                                                                                \
    X(StageClass)                                                                                  \
    X(Endian)                                                                                      \
    X(Display3D)                                                                                   \
    X(Shaders)                                                                                     \
    X(Filters)                                                                                     \
    X(GraphicsData)                                                                                \
    X(ConstantClasses)
