-- Integer loop: arithmetic on locals.
local s = 0
for i = 1, 30000000 do
  s = s + i % 7
end
print(s)
