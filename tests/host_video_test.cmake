# The host and clip tests, with a clip in MS Video 1 and a password provider.
set(VIDEO_TEST_CLIP ${CMAKE_CURRENT_BINARY_DIR}/video_test.avi)
add_custom_command(OUTPUT ${VIDEO_TEST_CLIP}
  COMMAND ffmpeg -v error -y -f lavfi -i "color=c=red:s=72x72:d=1:r=10,drawbox=y=36:h=36:w=72:c=lime:t=fill"
          -f lavfi -i "color=c=blue:s=72x72:d=1:r=10" -filter_complex "[0][1]concat=n=2:v=1"
          -c:v msvideo1 -pix_fmt rgb555le ${VIDEO_TEST_CLIP}
  VERBATIM)
add_library(host_test_provider SHARED host_provider.cpp)
set_target_properties(host_test_provider PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL
  LINK_FLAGS -Wl,--kill-at RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/host_provider)
tindle_test(host_video_test SOURCES host_video_test.cpp ${VIDEO_TEST_CLIP}
            $<TARGET_OBJECTS:tindle_thumbnails> TIMEOUT 120)
target_compile_definitions(host_video_test PRIVATE VIDEO_TEST_CLIP="Z:${VIDEO_TEST_CLIP}"
  TINDLE_INSTALL_DIR="Z:${TINDLE_INSTALL_DIR}" PROVIDER_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}/host_provider")
add_dependencies(host_video_test host_test_provider)
